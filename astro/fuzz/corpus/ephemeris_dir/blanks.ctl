
   	
*comment
  /data/ephe  
second/
